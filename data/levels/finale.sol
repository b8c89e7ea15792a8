# boxquake solution for finale
hash 853129803b86b8a5
par 1
updates 987
playable 0.969
click 2 209 251
