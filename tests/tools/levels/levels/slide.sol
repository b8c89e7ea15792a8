# boxquake solution for slide
hash 1d09e2815eb94ea9
par 1
updates 476
playable 0.969
click 4 128 24
