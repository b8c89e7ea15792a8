# boxquake solution for lesson
hash e882b19004f1985b
par 0
updates 301
playable 1.000
