# boxquake solution for pair
hash 17386f2f1dbd3cb9
par 2
updates 662
playable 1.00
click 10 225 310
click 150 563 282
