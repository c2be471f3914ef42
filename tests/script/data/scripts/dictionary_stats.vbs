Option Explicit
' Counts the words of a text file and prints the ten most frequent ones.

Dim fso, ts, text, words, word, dict, keys, i, j, tmp, limit
Set fso = CreateObject("Scripting.FileSystemObject")
Set dict = CreateObject("Scripting.Dictionary")
dict.CompareMode = vbTextCompare

If WScript.Arguments.Count = 0 Then WScript.Quit
Set ts = fso.OpenTextFile(WScript.Arguments(0), 1)
Do Until ts.AtEndOfStream
    text = LCase(ts.ReadLine)
    For Each word In Split(Clean(text), " ")
        If word <> "" Then
            If dict.Exists(word) Then dict(word) = dict(word) + 1 Else dict.Add word, 1
        End If
    Next
Loop
ts.Close

keys = dict.Keys
For i = 0 To UBound(keys) - 1
    For j = i + 1 To UBound(keys)
        If dict(keys(j)) > dict(keys(i)) Then
            tmp = keys(i) : keys(i) = keys(j) : keys(j) = tmp
        End If
    Next
Next

limit = 9
If UBound(keys) < limit Then limit = UBound(keys)
For i = 0 To limit
    WScript.Echo Right("     " & dict(keys(i)), 6) & "  " & keys(i)
Next

Function Clean(s)
    Dim re
    Set re = New RegExp
    re.Pattern = "[^a-z0-9']+"
    re.Global = True
    Clean = re.Replace(s, " ")
End Function
