Option Explicit
' Counts the words of a text file with a dictionary and shows the ten most frequent.
Dim fso, words, stream, line, word, keys, i, j, swap
Set fso = CreateObject("Scripting.FileSystemObject")
Set words = CreateObject("Scripting.Dictionary")
words.CompareMode = vbTextCompare
Set stream = fso.OpenTextFile(WScript.ScriptFullName, 1)
Do Until stream.AtEndOfStream
    line = stream.ReadLine
    For Each word In Split(Replace(Replace(line, ",", " "), ".", " "))
        If Len(word) > 0 Then words(word) = words(word) + 1
    Next
Loop
stream.Close
keys = words.Keys
For i = 0 To UBound(keys) - 1
    For j = i + 1 To UBound(keys)
        If words(keys(j)) > words(keys(i)) Then
            swap = keys(i): keys(i) = keys(j): keys(j) = swap
        End If
    Next
Next
For i = 0 To 9
    If i > UBound(keys) Then Exit For
    WScript.Echo keys(i) & " " & words(keys(i))
Next
