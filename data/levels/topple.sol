# boxquake solution for topple
hash 906943c232c0423b
par 2
updates 560
playable 0.970
click 5 410 120
click 60 145 230
