# boxquake solution for tower
hash 1dd23bbc11fa07e3
par 1
updates 506
playable 1.000
click 1 216 180
