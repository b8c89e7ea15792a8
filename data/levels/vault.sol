# boxquake solution for vault
hash 6c2508d3ad0c7922
par 3
updates 782
playable 0.84
click 24 236 320
click 46 673 361
click 134 375 189
