Option Explicit
' Keeps the last five copies of a log: app.log becomes app.1.log, and so on.
Const KEEP = 5
Dim fso, folder, i, older, newer
Set fso = CreateObject("Scripting.FileSystemObject")
folder = "C:\Logs\"

If fso.FileExists(folder & "app." & KEEP & ".log") Then
  fso.DeleteFile folder & "app." & KEEP & ".log"
End If
For i = KEEP - 1 To 1 Step -1
  older = folder & "app." & i & ".log"
  newer = folder & "app." & (i + 1) & ".log"
  If fso.FileExists(older) Then
    fso.MoveFile older, _
                 newer
  End If
Next
If fso.FileExists(folder & "app.log") Then
  fso.MoveFile folder & "app.log", folder & "app.1.log"
End If
