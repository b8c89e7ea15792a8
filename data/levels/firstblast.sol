# boxquake solution for firstblast
hash f7925d9b4a17e964
par 1
updates 1166
playable 1.00
click 10 176 225
