# boxquake solution for tumbler
hash ad8fd6358ca1493f
par 1
updates 513
playable 0.812
click 10 48 176
