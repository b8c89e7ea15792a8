# boxquake solution for fuse
hash a582203ba44e14be
par 0
updates 697
playable 1.00
