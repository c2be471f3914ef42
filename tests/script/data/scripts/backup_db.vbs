' バックアップ対象の一覧をデータベースから読み、フォルダごとにコピーする
Option Explicit

Const adOpenForwardOnly = 0
Const adLockReadOnly = 1

Dim conn, rs, sql, fso, copied, failed
Set conn = CreateObject("ADODB.Connection")
Set fso = CreateObject("Scripting.FileSystemObject")
conn.Open "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=C:\data\backup.mdb"

sql = "SELECT Source, Target FROM Jobs " & _
      "WHERE Enabled = True AND Owner <> 'O''Brien' " & _
      "ORDER BY Source"
Set rs = CreateObject("ADODB.Recordset")
rs.Open sql, conn, adOpenForwardOnly, adLockReadOnly

copied = 0 : failed = 0
Do While Not rs.EOF
    If fso.FolderExists(rs("Source")) Then
        On Error Resume Next
        fso.CopyFolder rs("Source"), rs("Target"), True
        If Err.Number = 0 Then
            copied = copied + 1
        Else
            failed = failed + 1
            LogFailure rs("Source"), Err.Description
            Err.Clear
        End If
        On Error GoTo 0
    Else
        LogFailure rs("Source"), "フォルダがありません"
        failed = failed + 1
    End If
    rs.MoveNext
Loop
rs.Close : conn.Close

Select Case True
    Case failed = 0
        WScript.Echo "全て成功: " & copied & " 件"
    Case copied = 0
        WScript.Echo "全て失敗: " & failed & " 件"
    Case Else
        WScript.Echo "成功 " & copied & " 件、失敗 " & failed & " 件"
End Select

Sub LogFailure(path, reason)
    Dim stream
    Set stream = fso.OpenTextFile("backup_errors.txt", 8, True)
    stream.WriteLine Now & vbTab & path & vbTab & reason
    stream.Close
End Sub
