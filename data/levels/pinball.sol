# boxquake solution for pinball
hash c846c3edf0b6db09
par 3
updates 987
playable 1.00
click 60 35 461
click 120 394 436
click 200 768 146
