# boxquake solution for tumbler
hash 3fe0a65942b4f3b8
par 1
updates 584
playable 1.000
click 5 50 165
