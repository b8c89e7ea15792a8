# boxquake solution for cargo
hash c0452387fd60d927
par 3
updates 779
playable 1.000
click 5 140 428
click 60 680 428
click 120 720 278
