# boxquake solution for seesaw
hash c0217eb6bf162142
par 2
updates 714
playable 0.875
click 46 143 111
click 53 212 285
