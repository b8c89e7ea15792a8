# boxquake solution for evict
hash 127764e1530abf4e
par 1
updates 600
playable 1.00
click 10 364 276
