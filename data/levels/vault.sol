# boxquake solution for vault
hash 179aaf5c6e888d4e
par 3
updates 946
playable 0.94
click 10 284 42
click 60 5 216
click 110 799 336
