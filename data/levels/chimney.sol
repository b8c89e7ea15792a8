# boxquake solution for chimney
hash ee133d165b7dceff
par 2
updates 1221
playable 0.810
click 5 309 12
click 500 492 93
