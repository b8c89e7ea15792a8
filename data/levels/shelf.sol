# boxquake solution for shelf
hash db8a2e145a0bb619
par 2
updates 573
playable 0.910
click 5 140 315
click 20 230 447
