' Counts the words of a text file and prints the ten most frequent.
Option Explicit
Dim fso, text, words, word, counts, keys, i, j, swap
Set fso = CreateObject("Scripting.FileSystemObject")
Set counts = CreateObject("Scripting.Dictionary")
counts.CompareMode = vbTextCompare

text = fso.OpenTextFile(WScript.Arguments(0)).ReadAll
text = Replace(Replace(Replace(text, vbCrLf, " "), _
                       ".", " "), _
               ",", " ")
For Each word In Split(text, " ")
  If Len(word) > 0 Then
    counts(word) = counts(word) + 1
  End If
Next

keys = counts.Keys
For i = 0 To UBound(keys) - 1
  For j = i + 1 To UBound(keys)
    If counts(keys(j)) > counts(keys(i)) Then
      swap = keys(i) : keys(i) = keys(j) : keys(j) = swap
    End If
  Next
Next
For i = 0 To 9
  If i > UBound(keys) Then Exit For
  WScript.Echo counts(keys(i)) & vbTab & keys(i)
Next
