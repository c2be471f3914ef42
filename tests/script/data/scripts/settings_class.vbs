Option Explicit

Class IniFile
    Private sections

    Private Sub Class_Initialize
        Set sections = CreateObject("Scripting.Dictionary")
    End Sub

    Public Sub Load(path)
        Dim fso, ts, line, current, p
        Set fso = CreateObject("Scripting.FileSystemObject")
        If Not fso.FileExists(path) Then Exit Sub
        Set ts = fso.OpenTextFile(path)
        current = ""
        Do Until ts.AtEndOfStream
            line = Trim(ts.ReadLine)
            If Left(line, 1) = ";" Or line = "" Then
                ' comment or blank
            ElseIf Left(line, 1) = "[" And Right(line, 1) = "]" Then
                current = Mid(line, 2, Len(line) - 2)
                If Not sections.Exists(current) Then sections.Add current, CreateObject("Scripting.Dictionary")
            Else
                p = InStr(line, "=")
                If p > 0 And current <> "" Then sections(current)(Trim(Left(line, p - 1))) = Trim(Mid(line, p + 1))
            End If
        Loop
        ts.Close
    End Sub

    Public Default Property Get Value(section, key)
        Value = ""
        If sections.Exists(section) Then
            If sections(section).Exists(key) Then Value = sections(section)(key)
        End If
    End Property

    Public Property Get SectionCount
        SectionCount = sections.Count
    End Property
End Class

Dim ini : Set ini = New IniFile
ini.Load "settings.ini"
WScript.Echo ini("Editor", "Font") & " (" & ini.SectionCount & " sections)"
