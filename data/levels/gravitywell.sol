# boxquake solution for gravitywell
hash f71a1b2797e11444
par 1
updates 774
playable 0.906
click 6 228 32
