# boxquake solution for keystone
hash cbf46e165801075a
par 4
updates 862
playable 0.97
click 40 282 21
click 180 282 21
click 320 518 21
click 460 518 21
