Option Explicit
' Adds up the sizes of the files below a folder, folder by folder.
Dim fso, root
Set fso = CreateObject("Scripting.FileSystemObject")
If WScript.Arguments.Count > 0 Then
    root = WScript.Arguments(0)
Else
    root = fso.GetAbsolutePathName(".")
End If
WScript.Echo FormatNumber(FolderSize(fso.GetFolder(root), 0), 0) & " bytes"

Function FolderSize(ByVal folder, ByVal depth)
    Dim file, subFolder, total
    total = 0
    For Each file In folder.Files
        total = total + file.Size
    Next
    For Each subFolder In folder.SubFolders
        total = total + FolderSize(subFolder, depth + 1)
    Next
    If depth < 2 Then WScript.Echo String(depth * 2, " ") & folder.Name & ": " & total
    FolderSize = total
End Function
