# boxquake solution for cargo
hash a80492a7fc79bf14
par 2
updates 842
playable 0.91
click 10 155 350
click 100 645 400
