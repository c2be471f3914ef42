Option Explicit
' Writes a dated report of the drives to a text file beside the script.
Const ForWriting = 2
Dim fso, report, drive, name
Set fso = CreateObject("Scripting.FileSystemObject")
name = fso.BuildPath(fso.GetParentFolderName(WScript.ScriptFullName), _
    "drives_" & Year(Date) & Right("0" & Month(Date), 2) & Right("0" & Day(Date), 2) & ".txt")
Set report = fso.OpenTextFile(name, ForWriting, True)
report.WriteLine "Drives on " & FormatDateTime(Now, vbLongDate)
For Each drive In fso.Drives
    With report
        .Write drive.DriveLetter & ": "
        If drive.IsReady Then
            .WriteLine Round(drive.FreeSpace / 2 ^ 30, 1) & " GB free of " & _
                Round(drive.TotalSize / 2 ^ 30, 1) & " GB"
        Else
            .WriteLine "not ready"
        End If
    End With
Next
report.Close
