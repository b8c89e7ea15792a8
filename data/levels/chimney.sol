# boxquake solution for chimney
hash 49b22766dc018ba5
par 2
updates 1094
playable 1.000
click 30 96 316
click 450 732 170
