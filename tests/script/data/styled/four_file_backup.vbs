Option Explicit
' Copies the files changed since yesterday into a dated backup folder.
Dim fso, source, target, file, copied
Set fso = CreateObject("Scripting.FileSystemObject")
source = "C:\Data"
target = fso.BuildPath("D:\Backup", _
                       Year(Date) & Right("0" & Month(Date), 2) & Right("0" & Day(Date), 2))

If Not fso.FolderExists(target) Then
    fso.CreateFolder target
End If

copied = 0
For Each file In fso.GetFolder(source).Files
    If DateDiff("d", file.DateLastModified, Now) < 1 Then
        On Error Resume Next
        file.Copy fso.BuildPath(target, file.Name), True
        If Err.Number <> 0 Then
            WScript.Echo "Cannot copy " & file.Name & ": " & _
                         Err.Description
            Err.Clear
        Else
            copied = copied + 1
        End If
        On Error GoTo 0
    End If
Next
WScript.Echo copied & " file(s) copied to " & target
