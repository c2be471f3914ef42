Option Explicit
' Prints a table of names and sizes with the columns padded.
Function Pad(text, width)
    If Len(text) >= width Then
        Pad = Left(text, width)
    Else
        Pad = text & Space(width - Len(text))
    End If
End Function

Dim rows, row
rows = Array(Array("notepad.exe", 193536), _
             Array("calc.exe", 27648), _
             Array("explorer.exe", 4702208))
WScript.Echo Pad("Name", 16) & "Bytes"
For Each row In rows
    WScript.Echo Pad(row(0), 16) & _
                 FormatNumber(row(1), 0)
Next
