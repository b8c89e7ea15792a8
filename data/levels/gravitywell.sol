# boxquake solution for gravitywell
hash 1664069f7ad9d0f2
par 1
updates 441
playable 1.000
click 5 238 6
