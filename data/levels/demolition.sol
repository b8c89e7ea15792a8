# boxquake solution for demolition
hash 4bc813ae22e88bbc
par 3
updates 808
playable 1.00
click 30 150 325
click 150 430 183
click 300 650 250
