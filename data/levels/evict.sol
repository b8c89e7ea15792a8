# boxquake solution for evict
hash 1a17d137563d79fa
par 1
updates 600
playable 1.00
click 10 364 276
