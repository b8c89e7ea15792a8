# boxquake solution for pinball
hash 8cb1d052f2e8e946
par 2
updates 1000
playable 0.91
click 5 406 408
click 23 769 149
