Option Explicit

' A small logger with levels, written as a class.
Class Logger
    Private m_path
    Private m_level
    Private m_fso
    Private m_count

    Private Sub Class_Initialize()
        Set m_fso = CreateObject("Scripting.FileSystemObject")
        m_level = 2
        m_count = 0
    End Sub

    Private Sub Class_Terminate()
        Set m_fso = Nothing
    End Sub

    Public Property Let Path(value)
        m_path = value
    End Property

    Public Property Get Path()
        Path = m_path
    End Property

    Public Property Let Level(value)
        Select Case LCase(value)
            Case "debug": m_level = 1
            Case "info":  m_level = 2
            Case "warn", "warning": m_level = 3
            Case "error": m_level = 4
            Case Else
                Err.Raise 5, "Logger", "Unknown level: " & value
        End Select
    End Property

    Public Property Get Count()
        Count = m_count
    End Property

    Public Property Set FileSystem(fso)
        Set m_fso = fso
    End Property

    Public Default Sub Log(levelName, message)
        Dim number
        number = LevelNumber(levelName)
        If number < m_level Then Exit Sub
        Dim stream
        Set stream = m_fso.OpenTextFile(m_path, 8, True)
        stream.WriteLine Now() & " [" & UCase(levelName) & "] " & message
        stream.Close
        m_count = m_count + 1
    End Sub

    Private Function LevelNumber(levelName)
        Select Case LCase(levelName)
        Case "debug"
            LevelNumber = 1
        Case "info"
            LevelNumber = 2
        Case "warn"
            LevelNumber = 3
        Case Else
            LevelNumber = 4
        End Select
    End Function
End Class

Dim logger
Set logger = New Logger
logger.Path = "C:\Temp\run.log"
logger.Level = "info"
logger.Log "info", "Started: it's a ""test"" run; End If and Next are only words here"
logger.Log "debug", "not written"
If logger.Count <> 1 Then WScript.Echo "unexpected count" Else WScript.Echo "ok"
