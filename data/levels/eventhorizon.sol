# boxquake solution for eventhorizon
hash 15aa7ddba1582ac8
par 3
updates 942
playable 0.94
click 10 268 258
click 250 400 492
click 500 524 350
