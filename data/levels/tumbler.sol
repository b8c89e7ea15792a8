# boxquake solution for tumbler
hash c0bac9872485b1d6
par 1
updates 512
playable 1.00
click 10 48 176
