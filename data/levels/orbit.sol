# boxquake solution for orbit
hash 1290409dca33a58e
par 1
updates 697
playable 1.000
click 5 364 24
