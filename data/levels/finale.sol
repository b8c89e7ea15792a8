# boxquake solution for finale
hash 5af85dc582480305
par 1
updates 987
playable 0.969
click 5 153 252
