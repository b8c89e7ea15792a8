# boxquake solution for throughwalls
hash d60aa67b5067e903
par 1
updates 682
playable 1.000
click 6 174 45
