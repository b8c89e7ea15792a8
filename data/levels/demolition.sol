# boxquake solution for demolition
hash ae322c5666c050b4
par 2
updates 666
playable 0.97
click 10 64 60
click 200 650 60
