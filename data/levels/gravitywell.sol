# boxquake solution for gravitywell
hash b358468a16a0b5f2
par 1
updates 441
playable 1.000
click 5 238 6
