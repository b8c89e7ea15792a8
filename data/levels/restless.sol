# boxquake solution for restless
hash 00781e60a1dd3f70
par 1
updates 812
playable 1.00
click 10 212 352
