# boxquake solution for orbit
hash e8d2f889cf32f441
par 1
updates 685
playable 0.906
click 1 376 3
