# boxquake solution for relay
hash 6e6ed321a39e4c9b
par 3
click 60 25 30
click 780 231 30
click 1440 441 30
