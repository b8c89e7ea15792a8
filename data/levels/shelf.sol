# boxquake solution for shelf
hash ee9cda5650edb35d
par 2
updates 604
playable 1.000
click 21 211 452
click 28 144 323
