# boxquake solution for seesaw
hash 60a35826bc9abfc9
par 2
updates 932
playable 1.000
click 5 145 100
click 300 202 312
