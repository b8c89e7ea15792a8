# boxquake solution for slope
hash b678a81253f51d66
par 1
updates 907
playable 1.00
click 10 100 24
