# boxquake solution for slide
hash 1d09e2815eb94ea9
par 1
updates 550
playable 0.906
click 3 157 22
