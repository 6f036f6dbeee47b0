[Playlist]
numberofentries=2000000000
FILE7=x
; c
[other]
k=v
