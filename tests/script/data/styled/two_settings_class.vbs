Option Explicit
' Settings read from an INI-like file of name=value lines.
Class Settings
  Private values

  Private Sub Class_Initialize()
    Set values = CreateObject("Scripting.Dictionary")
    values.CompareMode = vbTextCompare
  End Sub

  Public Sub Load(path)
    Dim fso, stream, line, equals
    Set fso = CreateObject("Scripting.FileSystemObject")
    If Not fso.FileExists(path) Then Exit Sub
    Set stream = fso.OpenTextFile(path)
    Do Until stream.AtEndOfStream
      line = Trim(stream.ReadLine)
      equals = InStr(line, "=")
      If equals > 1 And Left(line, 1) <> ";" Then
        values(Trim(Left(line, equals - 1))) = _
          Trim(Mid(line, equals + 1))
      End If
    Loop
    stream.Close
  End Sub

  Public Default Property Get Item(name)
    If values.Exists(name) Then
      Item = values(name)
    Else
      Item = ""
    End If
  End Property
End Class
