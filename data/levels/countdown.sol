# boxquake solution for countdown
hash 258291c297151104
par 2
updates 1488
playable 1.000
click 5 550 208
click 60 765 360
