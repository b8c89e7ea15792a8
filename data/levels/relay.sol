# boxquake solution for relay
hash 67f790790f377cd1
par 3
updates 2074
playable 1.00
click 60 25 30
click 780 231 30
click 1440 441 30
