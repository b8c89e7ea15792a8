# boxquake solution for demolition
hash 67868196c47675e7
par 3
click 30 150 325
click 150 430 183
click 300 650 250
