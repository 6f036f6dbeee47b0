[playlist]
File1=/m/a.mp3
Title1=a
Length1=200
File3=http://s/x
NumberOfEntries=3
Version=2
