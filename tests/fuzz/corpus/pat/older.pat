; OXN2 Meta tag: 3
c-3 1 0 0
a#5 1 1 0
G#2 0 0 1
