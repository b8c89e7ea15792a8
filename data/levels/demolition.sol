# boxquake solution for demolition
hash 4bc813ae22e88bbc
par 3
click 30 150 325
click 150 430 183
click 300 650 250
