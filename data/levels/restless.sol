# boxquake solution for restless
hash 9ae036e3d2ef4a0a
par 1
updates 925
playable 1.00
click 10 220 405
