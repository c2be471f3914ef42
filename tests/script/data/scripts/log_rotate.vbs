REM Rotates the log files of a folder: keeps the newest N and zips nothing.
REM Usage: cscript log_rotate.vbs folder [keep]
Option Explicit

Dim fso, folder, files(), file, i, j, keep, tmp, count

Set fso = CreateObject("Scripting.FileSystemObject")
If WScript.Arguments.Count < 1 Then
  WScript.Echo "Usage: log_rotate.vbs folder [keep]"
  WScript.Quit 2
End If
keep = 5
If WScript.Arguments.Count > 1 Then keep = CInt(WScript.Arguments(1))

Set folder = fso.GetFolder(WScript.Arguments(0))
count = 0
ReDim files(-1)
For Each file In folder.Files
  If LCase(fso.GetExtensionName(file.Name)) = "log" Then
    ReDim Preserve files(count)
    Set files(count) = file
    count = count + 1
  End If
Next

' newest first: a simple insertion sort by date
For i = 1 To count - 1
  Set tmp = files(i)
  j = i - 1
  Do While j >= 0
    If files(j).DateLastModified >= tmp.DateLastModified Then Exit Do
    Set files(j + 1) = files(j)
    j = j - 1
  Loop
  Set files(j + 1) = tmp
Next

For i = count - 1 To keep Step -1
  WScript.Echo "deleting " & files(i).Path
  files(i).Delete True
Next

Dim answer : answer = 0
Do
  answer = answer + 1
Loop Until answer >= 3

While answer > 0
  answer = answer - 1
Wend
