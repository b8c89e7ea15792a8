# boxquake solution for horizon
hash 19f96a6c5125a8ab
par 1
updates 747
playable 0.91
click 10 15 433
