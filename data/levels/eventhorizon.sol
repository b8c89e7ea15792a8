# boxquake solution for eventhorizon
hash 49a365c209706963
par 3
updates 1033
playable 1.00
click 60 268 258
click 300 524 350
click 540 378 494
