# boxquake solution for finale
hash ac74ebb2853b6677
par 3
updates 1218
playable 0.97
click 60 25 30
click 120 578 1
click 180 6 456
