# boxquake solution for outline
hash c648f42833fcda53
par 1
updates 489
playable 1.00
click 10 368 244
