# boxquake solution for horizon
hash 51f62982aeb3c30f
par 3
updates 839
playable 0.94
click 10 276 0
click 60 182 7
click 110 82 7
